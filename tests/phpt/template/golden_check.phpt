--TEST--
The warnings of check-tagname mode; before it is switched on, the same calls are silent
--INCLUDE-- check.tpl
{t} <!-- BEGIN r* -->{v}<!-- END r* -->
--FILE--
<?php
$t = brisko_template_load("check.tpl");
brisko_template_assign($t, "nope", "1");
$x = brisko_template_fetch($t, "nope");
$y = brisko_template_load("check.tpl", "q->r");
brisko_template_check_tagname();
brisko_template_assign($t, "nope", "1");
brisko_template_assign($t, "v", "1");
brisko_template_assign($t, "r*", "1%s");
$x = brisko_template_fetch($t, "nope");
$x = brisko_template_fetch($t, "r", 0);
$y = brisko_template_load("check.tpl", "q%d->r");
brisko_template_fetch_assign($t, "r*", 0, "zz", "1");
brisko_template_fetch_assign($t, "r*", 0, "v", "ok");
echo brisko_template_get($t), "\n----\n";
--EXPECTF--

Warning: Illegal tagname('nope') in %s on line 7

Warning: Illegal tagname('v') in %s on line 8

Warning: Illegal tagname('nope') in %s on line 10

Warning: Illegal tagname('r') in %s on line 11

Warning: Illegal tagname('q%%d->r') in %s on line 12

Warning: Illegal tagname('zz') in %s on line 13
{t}1%%s

----
