--TEST--
preg_replace with the /e modifier runs the replacement as PHP code in the caller's scope (globals, locals, $this), its back references filled in with slashes added, in arrays of patterns too; code that does not compile is fatal
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
echo preg_replace('/(\w+)/e', 'strtoupper("\\1")', "hello world"), "\n";
echo preg_replace('/(\d+)/e', '$1 * 2', "a1 b22 c"), "\n";
echo preg_replace("/\[url=(.*?)\](.*?)\[\/url\]/ie", "'<a href=\"'.htmlspecialchars('\\1').'\">\\2</a>'",
    "see [url=http://x.y/?a=1&b='2']it's here[/url]!"), "\n";
$prefix = "P:";
function wrap($s) { global $prefix; $n = 0; return preg_replace('/(o)/e', '$prefix . "${1}" . ++$n', $s); }
echo wrap("foo"), "\n";
class T {
    var $n = 3;
    function go($s) { return preg_replace('/x/e', '$this->n', $s); }
}
$t = new T;
echo $t->go("axbx"), "\n";
echo preg_replace('/(a)(b)?/e', '"[\\2]"', "a ab"), "\n";
echo preg_replace(array('/a/e', '/b/'), array('"A"', 'B'), "aabb"), "\n";
echo preg_replace('/(.)/e', '"<" . ord("\\1") . ">"', "a\"\\"), "\n";
echo preg_replace('/x/e', 'syntax error here', "x"), "\n";
echo "not reached\n";
--EXPECTF--
HELLO WORLD
a2 b44 c
see <a href="http://x.y/?a=1&amp;b='2'">it's here</a>!
fP:o1P:o2
a3b3
[] [b]
AABB
<97><34><92>

Parse error: parse error, unexpected T_STRING in %s(%d) : regexp code on line 1

Fatal error: Failed evaluating code:
syntax error here in %s on line %d
