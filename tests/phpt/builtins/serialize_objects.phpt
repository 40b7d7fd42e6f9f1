--TEST--
serialize/unserialize objects: __sleep picks the properties, __wakeup runs on the read object, classes that do not exist come back incomplete and are written back under their name, defaults of the class are kept
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
class Connection {
    var $dsn;
    var $link = 'open';
    var $cache = array();
    function Connection($dsn) { $this->dsn = $dsn; }
    function __sleep() { echo "sleep ", $this->dsn, "\n"; return array('dsn', 'cache', 'missing'); }
    function __wakeup() { echo "wakeup ", $this->dsn, "\n"; $this->link = 'reopened'; }
}
$c = new Connection('db1');
$c->cache['k'] = 1;
echo $s = serialize($c), "\n";
$d = unserialize($s);
var_dump($d);
// objects inside arrays wake before the array is returned
$list = unserialize(serialize(array('a' => $c, 'b' => new Connection('db2'))));
echo $list['a']->link, ' ', $list['b']->dsn, "\n";
class BadSleep { var $x = 1; function __sleep() { return 5; } }
echo serialize(new BadSleep), "\n";
class MixedSleep { var $x = 1; function __sleep() { return array('x', 7); } }
echo serialize(new MixedSleep), "\n";
// references still point at the right value after a property __sleep names but the object lacks
class Linked { var $a; var $b; function __sleep() { return array('missing', 'a', 'b'); } }
$l = new Linked; $l->a = array(1); $l->b = &$l->a;
echo $s = serialize($l), "\n";
$u = unserialize($s); $u->b = 'shared'; echo $u->a, "\n";
// properties the text does not name keep the class defaults
class Defaults { var $a = 'default-a'; var $b = 'default-b'; }
$o = unserialize('O:8:"defaults":1:{s:1:"a";s:3:"new";}');
echo $o->a, ' ', $o->b, ' ', get_class($o), "\n";
$o = unserialize('O:8:"DeFaUlTs":0:{}');
echo get_class($o), "\n";
// an unknown class
$u = unserialize('O:7:"Unknown":2:{s:1:"p";i:1;s:1:"q";a:1:{i:0;i:2;}}');
var_dump($u);
echo get_class($u), "\n";
echo serialize($u), "\n";
--EXPECTF--
sleep db1
O:10:"connection":3:{s:3:"dsn";s:3:"db1";s:5:"cache";a:1:{s:1:"k";i:1;}s:7:"missing";N;}
wakeup db1
object(connection)(4) {
  ["dsn"]=>
  string(3) "db1"
  ["link"]=>
  string(8) "reopened"
  ["cache"]=>
  array(1) {
    ["k"]=>
    int(1)
  }
  ["missing"]=>
  NULL
}
sleep db1
sleep db2
wakeup db1
wakeup db2
reopened db2

Notice: serialize(): __sleep should return an array only containing the names of instance-variables to serialize. in %s on line %d
N;

Notice: serialize(): __sleep should return an array only containing the names of instance-variables to serialize. in %s on line %d
O:10:"mixedsleep":2:{s:1:"x";i:1;s:0:"";N;}
O:6:"linked":3:{s:7:"missing";N;s:1:"a";a:1:{i:0;i:1;}s:1:"b";R:3;}
shared
new default-b defaults
defaults
object(__php_incomplete_class)(3) {
  ["__PHP_Incomplete_Class_Name"]=>
  string(7) "unknown"
  ["p"]=>
  int(1)
  ["q"]=>
  array(1) {
    [0]=>
    int(2)
  }
}
__php_incomplete_class
O:7:"unknown":2:{s:1:"p";i:1;s:1:"q";a:1:{i:0;i:2;}}
