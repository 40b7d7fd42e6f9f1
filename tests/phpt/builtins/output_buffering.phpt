--TEST--
Output buffering: nested levels, handlers and their flags, chunks, cleaning and ending at any level, levels left open at request end
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
function upper($text, $mode) { return strtoupper($text) . "[$mode]"; }
function keep($text) { return false; }
function number($text) { return 42; }
function noisy($text) { echo "dropped"; return "<$text>"; }
class Wrapper { var $tag = "w"; function wrap($text) { return "<$this->tag>$text</$this->tag>"; } }

var_dump(ob_get_level(), ob_get_contents(), ob_get_length(), ob_get_clean(), ob_get_flush());
ob_end_flush();
ob_end_clean();
ob_clean();
ob_flush();

ob_start();
echo "outer ";
ob_start("upper");
echo "inner ";
$level = ob_get_level();
$inner = ob_get_contents();
ob_flush();
echo "more";
ob_end_flush();
$outer = ob_get_clean();
var_dump($level, $inner, $outer);

ob_start("upper");
echo "cleaned away";
ob_clean();
echo "kept";
ob_end_flush();
echo "\n";

ob_start("keep"); echo "unchanged\n"; ob_end_flush();
ob_start("number"); echo "replaced"; ob_end_flush(); echo "\n";
ob_start("noisy"); echo "quiet"; ob_end_flush(); echo "\n";
$w = new Wrapper;
ob_start(array($w, "wrap")); echo "method"; ob_end_flush(); echo "\n";
ob_start("upper,keep"); echo "two levels"; var_dump(ob_list_handlers()); ob_end_flush(); ob_end_flush(); echo "\n";
ob_start(""); echo "empty name "; ob_end_flush(); echo "\n";

echo "-- chunks\n";
ob_start("upper", 4);
echo "ab"; echo "cd"; echo "e";
ob_end_flush();
echo "\n";
ob_start();
ob_start("upper", 1);
echo str_repeat("x", 4095); echo "y"; echo "z";
$rest = ob_get_contents();
ob_end_clean();
$sent = ob_get_clean();
var_dump(strlen($sent), substr($sent, -5), $rest);

echo "-- levels that may not be removed\n";
ob_start(null, 0, false);
echo "stays";
var_dump(ob_end_clean(), ob_get_clean(), ob_get_level());
ob_flush();
var_dump(ob_end_clean(), ob_get_level());

echo "-- request end\n";
ob_implicit_flush();
ob_implicit_flush(0);
ob_start("upper");
echo "first open ";
ob_start(array($w, "wrap"));
echo "second open";
--REQUEST--
<?php
var_dump(ob_get_level());
function h($s) { ob_start(); return $s; }
ob_start("h");
echo "nested start in a handler";
ob_end_flush();
echo "not reached\n";
--REQUEST--
<?php
function tail($s) { return "[tail:$s]"; }
ob_start("tail");
echo "before the fatal error";
undefined_function();
--EXPECTF--
int(0)
bool(false)
bool(false)
bool(false)
bool(false)

Notice: ob_end_flush(): failed to delete and flush buffer. No buffer to delete or flush. in %s on line 10

Notice: ob_end_clean(): failed to delete buffer. No buffer to delete. in %s on line 11

Notice: ob_clean(): failed to delete buffer. No buffer to delete. in %s on line 12

Notice: ob_flush(): failed to flush buffer. No buffer to flush. in %s on line 13
int(2)
string(6) "inner "
string(22) "outer INNER [3]MORE[4]"
KEPT[4]
unchanged
42
<quiet>
<w>method</w>
TWO LEVELSARRAY(2) {
  [0]=>
  STRING(5) "UPPER"
  [1]=>
  STRING(4) "KEEP"
}
[5]
empty name 
-- chunks
ABCD[3]E[4]
int(4099)
string(5) "XY[3]"
string(1) "z"
-- levels that may not be removed
stays
Notice: ob_end_clean(): failed to delete buffer default output handler. in %s on line 58

Notice: ob_get_clean(): failed to delete buffer default output handler. in %s on line 58
bool(false)
bool(false)
int(1)
bool(true)
int(0)
-- request end
FIRST OPEN <W>SECOND OPEN</W>[5]int(0)

Fatal error: ob_start(): Cannot use output buffering in output buffering display handlers in %s on line 3
[tail:before the fatal error
Fatal error: Call to undefined function: undefined_function() in %s on line 5
]