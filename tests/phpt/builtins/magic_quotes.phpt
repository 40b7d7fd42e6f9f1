--TEST--
get_magic_quotes_gpc and get_magic_quotes_runtime: the engine never adds backslashes to request data or file reads, so both read as off (integer 0), arguments ignored as the original engine ignored them; the usual unquoting code leaves data alone
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
var_dump(get_magic_quotes_gpc(), get_magic_quotes_runtime(), get_magic_quotes_gpc("extra"));
$_POST = array('name' => "O'Brien", 'list' => array("a\\b", 'say "hi"'));
if (get_magic_quotes_gpc()) {
    $_POST = array_map('stripslashes', $_POST);
}
print_r($_POST);
file_put_contents("q.txt", "it's");
$fp = fopen("q.txt", "r");
var_dump(fgets($fp), get_magic_quotes_runtime() ? 'quoted' : 'as stored');
--EXPECT--
int(0)
int(0)
int(0)
Array
(
    [name] => O'Brien
    [list] => Array
        (
            [0] => a\b
            [1] => say "hi"
        )

)
string(4) "it's"
string(9) "as stored"
