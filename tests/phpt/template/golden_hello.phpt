--TEST--
A page with tags and a repeat block: rendered before and after assignments, rows filled by index, a tag assigned again
--INCLUDE-- hello.tpl
Hello {name}, {who}!
<!-- BEGIN row* --><li>{v}</li>
<!-- END row* -->
--FILE--
<?php
$t = brisko_template_load("hello.tpl");
echo brisko_template_get($t), "\n----\n";
brisko_template_assign($t, "name", "Ann");
brisko_template_assign($t, "who", "x y");
brisko_template_fetch_assign($t, "row*", 0, "v", "first");
brisko_template_fetch_assign($t, "row*", 2, "v", "third");
echo brisko_template_get($t), "\n----\n";
brisko_template_assign($t, "name", "Bob");
echo brisko_template_get($t), "\n----\n";
--EXPECT--
Hello {name}, {who}!


----
Hello Ann, x y!
<li>first</li>
<li>{v}</li>
<li>third</li>


----
Hello Bob, x y!
<li>first</li>
<li>{v}</li>
<li>third</li>


----
