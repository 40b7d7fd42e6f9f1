--TEST--
highlight_string, highlight_file and show_source: PHP 4's HTML colour runs for HTML, tags, comments, keywords, names, strings with variables, heredocs and commands; returned or printed; missing files and unfinished code
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$r = highlight_string('<p>Hi</p><?php
# hash
if ($a  ==  1) { echo "x", \'y\'; } // line
/* block */ $o->list = (int) 0x1F + 1.5e3 - __LINE__; ?>
tail &amp;');
echo "\n";
var_dump($r);
$h = highlight_string('<?= "a{$b[\'k\']}c $d[0] $e->f" ?>', true);
var_dump($h);
echo highlight_string("<?php\n\$t = <<<END\nline \$v\nEND;\n\$c = `ls`;\n", true), "\n";
echo highlight_string("<?php 'open", true), "\n";
echo highlight_string("<?php /* open", true), "\n";
echo highlight_string("no code at all", true), "\n";
echo highlight_string("", true), "\n";
file_put_contents("src.php", "<?php echo 1; ?>\n");
var_dump(highlight_file("src.php"));
echo "\n";
var_dump(show_source("src.php", true) === highlight_file("src.php", true));
var_dump(highlight_file("missing.php"), highlight_file("missing.php", true));
var_dump(highlight_file("src\0.php"));
var_dump(highlight_string(), highlight_file(), highlight_string("a", true, 3));
$big = "<?php\n" . str_repeat("\$a = 'x' . \"y\$z\"; // c\n", 20000);
var_dump(strlen(highlight_string($big, true)));
--EXPECTF--
<code><font color="#000000">
&lt;p&gt;Hi&lt;/p&gt;<font color="#0000BB">&lt;?php<br /></font><font color="#FF8000"># hash<br /></font><font color="#007700">if (</font><font color="#0000BB">$a&nbsp;&nbsp;</font><font color="#007700">==&nbsp;&nbsp;</font><font color="#0000BB">1</font><font color="#007700">) { echo </font><font color="#DD0000">"x"</font><font color="#007700">, </font><font color="#DD0000">'y'</font><font color="#007700">; } </font><font color="#FF8000">// line<br />/* block */ </font><font color="#0000BB">$o</font><font color="#007700">-&gt;</font><font color="#0000BB">list </font><font color="#007700">= (int) </font><font color="#0000BB">0x1F </font><font color="#007700">+ </font><font color="#0000BB">1.5e3 </font><font color="#007700">- </font><font color="#0000BB">__LINE__</font><font color="#007700">; </font><font color="#0000BB">?&gt;<br /></font>tail &amp;amp;</font>
</code>
bool(true)
string(521) "<code><font color="#000000">
<font color="#0000BB">&lt;?= </font><font color="#DD0000">"a</font><font color="#007700">{</font><font color="#DD0000">$b</font><font color="#007700">[</font><font color="#DD0000">'k'</font><font color="#007700">]}</font><font color="#DD0000">c $d</font><font color="#007700">[</font><font color="#DD0000">0</font><font color="#007700">]</font><font color="#DD0000"> $e</font><font color="#007700">-&gt;</font><font color="#DD0000">f" </font><font color="#0000BB">?&gt;</font>
</font>
</code>"
<code><font color="#000000">
<font color="#0000BB">&lt;?php<br />$t </font><font color="#007700">= &lt;&lt;&lt;END<br /></font><font color="#0000BB">line $v<br /></font><font color="#007700">END;<br /></font><font color="#0000BB">$c </font><font color="#007700">= `</font><font color="#0000BB">ls</font><font color="#007700">`;<br /></font>
</font>
</code>
<code><font color="#000000">
<font color="#0000BB">&lt;?php </font><font color="#DD0000">'open</font>
</font>
</code>
<code><font color="#000000">
<font color="#0000BB">&lt;?php </font><font color="#FF8000">/* open</font>
</font>
</code>
<code><font color="#000000">
no code at all</font>
</code>
<code><font color="#000000">
</font>
</code>
<code><font color="#000000">
<font color="#0000BB">&lt;?php </font><font color="#007700">echo </font><font color="#0000BB">1</font><font color="#007700">; </font><font color="#0000BB">?&gt;<br /></font>
</font>
</code>bool(true)

bool(true)

Warning: highlight_file(missing.php): failed to open stream: No such file or directory in %s on line 21

Warning: highlight_file(): Failed opening 'missing.php' for highlighting in %s on line 21

Warning: highlight_file(missing.php): failed to open stream: No such file or directory in %s on line 21

Warning: highlight_file(): Failed opening 'missing.php' for highlighting in %s on line 21
bool(false)
bool(false)

Warning: highlight_file(): Path must not contain NUL bytes in %s on line 22
bool(false)

Warning: Wrong parameter count for highlight_string() in %s on line 23

Warning: Wrong parameter count for highlight_file() in %s on line 23

Warning: Wrong parameter count for highlight_string() in %s on line 23
bool(false)
bool(false)
bool(false)
int(4620059)
