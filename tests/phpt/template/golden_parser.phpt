--TEST--
Parsing: a block and the blanks around its markers replaced, two blocks of one name, unmatched markers, tags across lines and with "{", "{}", unmatched braces
--INCLUDE-- parser.tpl
a <!-- BEGIN x -->  b{t}c
<!-- END x -->	 d
<!-- BEGIN one -->1<!-- END one -->y<!-- BEGIN one -->2<!-- END one -->
<!-- BEGIN lost --> stays <!-- END nothing -->
<!--BEGIN nb -->not a marker<!-- END nb-->
{multi
line{tag}/{}/{ a b }
<style>p {color: red}</style>
--FILE--
<?php
$t = brisko_template_load("parser.tpl");
echo brisko_template_get($t), "\n----\n";
$x = brisko_template_fetch($t, "x");
brisko_template_assign($x, "t", "T");
brisko_template_assign($t, "multi\nline{tag", "x");
echo brisko_template_get($t), "\n----\n";
--EXPECT--
ab{t}c
d
1<!-- END one -->y<!-- BEGIN one -->2
<!-- BEGIN lost --> stays <!-- END nothing -->
<!--BEGIN nb -->not a marker<!-- END nb-->
{multi
line{tag}/{}/{ a b }
<style>p {color: red}</style>

----
abTc
d
1<!-- END one -->y<!-- BEGIN one -->2
<!-- BEGIN lost --> stays <!-- END nothing -->
<!--BEGIN nb -->not a marker<!-- END nb-->
x/{}/{ a b }
<style>p {color: red}</style>

----
