--TEST--
var_export of objects: members indented as array elements, nested objects and arrays, only named members written
--ARGS--
-n
--FILE--
<?php
class Foo { var $a = 1; var $b = array('x' => "it's"); }
$o = new Foo;
var_export(array('obj' => $o, 5 => -0.5, 'n' => null)); echo "\n";
var_export($o); echo "\n";
var_export((object) array(7 => 'seven', 'a' => 2)); echo "\n";
echo str_replace("\n", '|', var_export(new Foo, true)), "\n";
--EXPECT--
array (
  'obj' => 
  class foo {
    var $a = 1;
    var $b = 
    array (
      'x' => 'it\'s',
    );
  },
  5 => -0.5,
  'n' => NULL,
)
class foo {
  var $a = 1;
  var $b = 
  array (
    'x' => 'it\'s',
  );
}
class stdclass {
  var $a = 2;
}
class foo {|  var $a = 1;|  var $b = |  array (|    'x' => 'it\'s',|  );|}
