--TEST--
Negative, repeated and large indexes of fetch; a single block ignores the index
--INCLUDE-- hello.tpl
Hello {name}, {who}!
<!-- BEGIN row* --><li>{v}</li>
<!-- END row* -->
--INCLUDE-- outer.tpl
<ul><!-- BEGIN item* --><li>{v}</li><!-- END item* --></ul>|<!-- BEGIN box -->box<!-- END box -->
--FILE--
<?php
$t = brisko_template_load("hello.tpl");
$p = brisko_template_fetch($t, "row*", -1);
brisko_template_assign($p, "v", "prototype");
brisko_template_fetch_assign($t, "row*", 1, "v", "b");
$x = brisko_template_fetch($t, "row*", 1);
brisko_template_assign($x, "w", "same");
brisko_template_fetch_assign($t, "row*", 1, "v", "B");
echo brisko_template_get($t), "\n----\n";
echo brisko_template_get($p), "\n----\n";
echo brisko_template_get($x), "\n----\n";
$s = brisko_template_load("outer.tpl");
$b1 = brisko_template_fetch($s, "box", 5);
$b2 = brisko_template_fetch($s, "box");
brisko_template_assign($b1, "v", "ignored");
echo brisko_template_get($s), "\n----\n";
--EXPECT--
Hello {name}, {who}!
<li>{v}</li>
<li>B</li>


----
<li>prototype</li>

----
<li>B</li>

----
<ul></ul>|box

----
