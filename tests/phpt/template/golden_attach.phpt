--TEST--
Attach before and after fetches, values assigned after the attach, a template put into itself
--INCLUDE-- outer.tpl
<ul><!-- BEGIN item* --><li>{v}</li><!-- END item* --></ul>|<!-- BEGIN box -->box<!-- END box -->
--INCLUDE-- inner.tpl
<em>{v}</em>
--FILE--
<?php
$o = brisko_template_load("outer.tpl");
$i = brisko_template_load("inner.tpl");
brisko_template_attach($o, "item*", $i);
echo brisko_template_get($o), "\n----\n";
brisko_template_fetch_assign($o, "item*", 1, "v", "one");
brisko_template_attach($o, "item*", $i);
brisko_template_attach($o, "box", $i);
brisko_template_assign($i, "v", "shared");
echo brisko_template_get($o), "\n----\n";
brisko_template_fetch_assign($o, "item*", 2, "v", "own");
echo brisko_template_get($o), "\n----\n";
brisko_template_attach($o, "box", $o);
echo brisko_template_get($o), "\n----\n";
--EXPECTF--
<ul></ul>|box

----
<ul><em>shared</em>
<em>shared</em>
</ul>|<em>shared</em>


----
<ul><em>shared</em>
<em>shared</em>
<li>own</li></ul>|<em>shared</em>


----

Warning: Template contains itself through block 'box'; the repeated part is left out in %s on line 14
<ul><em>shared</em>
<em>shared</em>
<li>own</li></ul>|

----
