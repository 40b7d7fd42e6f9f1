--TEST--
unserialize: malformed text gives false and a notice naming the offset; lengths and counts are never trusted; references only to values already read; nesting is bounded
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$bad = array('x', 'N', 'i:;', 'i:5', 'i:12x;', 'i:99999999999999999999;', 'b:;', 'd:;', 'd:1.2.3;', 'd:e5;', 'd:--1;',
             's:5:"abc";', 's:3:"abc"', 's:3:"abc"x', 's:-1:"";', 's:99999999999:"a";', 'a:1:{i:0;i:1;', 'a:2:{i:0;i:1;}',
             'a:1:{N;i:1;}', 'a:1:{i:0;}', 'a:-1:{}', 'a:1000000000:{}', 'O:0:"":0:{}', 'O:3:"foo":1:{}', 'O:3:"fo":0:{}',
             'R:1;', 'a:1:{i:0;R:5;}', 'a:1:{i:0;R:0;}', 'r:1;', 'z:1;', "a:1:{s:1:\"a\";s:1:\"b\";}garbage");
foreach ($bad as $text) {
    echo str_pad($text, 24), ' ';
    var_dump(unserialize($text));
}
var_dump(unserialize(''));
var_dump(unserialize(false));
var_dump(unserialize(array()));
var_dump(unserialize());
// nesting is bounded, reading and writing
$deep = str_repeat('a:1:{i:0;', 5000) . 'N;' . str_repeat('}', 5000);
var_dump(unserialize($deep));
$ok = str_repeat('a:1:{i:0;', 1000) . 'N;' . str_repeat('}', 1000);
var_dump(is_array(unserialize($ok)));
$a = array(); $p = &$a;
for ($i = 0; $i < 1100; $i++) { $p[0] = array(); $p = &$p[0]; }
$s = serialize($a);
var_dump(strlen($s) > 1000, substr_count($s, 'N;'));
var_dump(is_array(unserialize($s)));
--EXPECTF--
x                        
Notice: unserialize(): Error at offset 0 of 1 bytes in %s on line %d
bool(false)
N                        
Notice: unserialize(): Error at offset 0 of 1 bytes in %s on line %d
bool(false)
i:;                      
Notice: unserialize(): Error at offset 0 of 3 bytes in %s on line %d
bool(false)
i:5                      
Notice: unserialize(): Error at offset 0 of 3 bytes in %s on line %d
bool(false)
i:12x;                   
Notice: unserialize(): Error at offset 0 of 6 bytes in %s on line %d
bool(false)
i:99999999999999999999;  
Notice: unserialize(): Error at offset 0 of 23 bytes in %s on line %d
bool(false)
b:;                      
Notice: unserialize(): Error at offset 0 of 3 bytes in %s on line %d
bool(false)
d:;                      
Notice: unserialize(): Error at offset 0 of 3 bytes in %s on line %d
bool(false)
d:1.2.3;                 
Notice: unserialize(): Error at offset 0 of 8 bytes in %s on line %d
bool(false)
d:e5;                    
Notice: unserialize(): Error at offset 0 of 5 bytes in %s on line %d
bool(false)
d:--1;                   
Notice: unserialize(): Error at offset 0 of 6 bytes in %s on line %d
bool(false)
s:5:"abc";               
Notice: unserialize(): Error at offset 10 of 10 bytes in %s on line %d
bool(false)
s:3:"abc"                
Notice: unserialize(): Error at offset 9 of 9 bytes in %s on line %d
bool(false)
s:3:"abc"x               
Notice: unserialize(): Error at offset 9 of 10 bytes in %s on line %d
bool(false)
s:-1:"";                 
Notice: unserialize(): Error at offset 0 of 8 bytes in %s on line %d
bool(false)
s:99999999999:"a";       
Notice: unserialize(): Error at offset 2 of 18 bytes in %s on line %d
bool(false)
a:1:{i:0;i:1;            
Notice: unserialize(): Error at offset 13 of 13 bytes in %s on line %d
bool(false)
a:2:{i:0;i:1;}           
Notice: unserialize(): Error at offset 13 of 14 bytes in %s on line %d
bool(false)
a:1:{N;i:1;}             
Notice: unserialize(): Error at offset 5 of 12 bytes in %s on line %d
bool(false)
a:1:{i:0;}               
Notice: unserialize(): Error at offset 9 of 10 bytes in %s on line %d
bool(false)
a:-1:{}                  
Notice: unserialize(): Error at offset 0 of 7 bytes in %s on line %d
bool(false)
a:1000000000:{}          
Notice: unserialize(): Error at offset 14 of 15 bytes in %s on line %d
bool(false)
O:0:"":0:{}              
Notice: unserialize(): Error at offset 2 of 11 bytes in %s on line %d
bool(false)
O:3:"foo":1:{}           
Notice: unserialize(): Error at offset 13 of 14 bytes in %s on line %d
bool(false)
O:3:"fo":0:{}            
Notice: unserialize(): Error at offset 8 of 13 bytes in %s on line %d
bool(false)
R:1;                     
Notice: unserialize(): Error at offset 4 of 4 bytes in %s on line %d
bool(false)
a:1:{i:0;R:5;}           
Notice: unserialize(): Error at offset 13 of 14 bytes in %s on line %d
bool(false)
a:1:{i:0;R:0;}           
Notice: unserialize(): Error at offset 13 of 14 bytes in %s on line %d
bool(false)
r:1;                     
Notice: unserialize(): Error at offset 4 of 4 bytes in %s on line %d
bool(false)
z:1;                     
Notice: unserialize(): Error at offset 0 of 4 bytes in %s on line %d
bool(false)
a:1:{s:1:"a";s:1:"b";}garbage array(1) {
  ["a"]=>
  string(1) "b"
}
bool(false)

Notice: unserialize(): Argument is not an string in %s on line %d
bool(false)

Notice: unserialize(): Argument is not an string in %s on line %d
bool(false)

Warning: Wrong parameter count for unserialize() in %s on line %d
NULL

Warning: unserialize(): Nesting level too deep - values nested deeper than 1024 levels are not read in %s on line %d

Notice: unserialize(): Error at offset %d of 50002 bytes in %s on line %d
bool(false)
bool(true)

Warning: serialize(): Nesting level too deep - values nested deeper than 1024 levels are stored as NULL in %s on line %d
bool(true)
int(1)
bool(true)
