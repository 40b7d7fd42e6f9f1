--TEST--
Heredoc with interpolation of variables, elements, properties and {$expressions}, escapes, quotes left as they are
--ARGS--
-n
--FILE--
<?php
$name = "World";
$list = array("first" => "one", 2 => "two");
$obj = new stdClass;
$obj->title = "Dr";
$obj->inner = new stdClass;
$obj->inner->x = "deep";
echo <<<EOT
Hello $name! "quoted" 'single' \$escaped \\ back\tslash
Elements: $list[first] $list[2] {$list['first']} ${name}
Props: $obj->title {$obj->inner->x} {$name}s
Octal \101 hex \x42 and a lone \q
EOT;
echo "|\n";
$t = <<<END
END;
var_dump($t);
echo strlen(<<<X
two
lines
X
), "\n";
function tpl($who) {
    return <<<HTML
<p class="greeting">Hi $who</p>
HTML;
}
echo tpl("Ann"), "\n";
--EXPECT--
Hello World! "quoted" 'single' $escaped \ back	slash
Elements: one two one World
Props: Dr deep Worlds
Octal A hex B and a lone \q|
string(0) ""
9
<p class="greeting">Hi Ann</p>
