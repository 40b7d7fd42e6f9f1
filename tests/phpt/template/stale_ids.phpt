--TEST--
Ids kept from an earlier request are refused, also when the new request has made a record at the same place
--INCLUDE-- t.tpl
<h1>{title}</h1><!-- BEGIN row* -->[{v}]<!-- END row* --><!-- BEGIN foot -->{n}<!-- END foot -->
--FILE--
<?php
$t = brisko_template_load("t.tpl");
$ids = array($t, brisko_template_fetch($t, "row*", 0), brisko_template_fetch($t, "row*", 1),
             brisko_template_fetch($t, "foot"), brisko_template_fetch($t, "row*", -1));
brisko_heap_set("ids", "kept", $ids);
echo count($ids), " ids kept\n";
--REQUEST--
<?php
// The same page, made the same way: its records land where the kept ones were.
$t = brisko_template_load("t.tpl");
brisko_template_fetch($t, "row*", 0);
brisko_template_fetch($t, "row*", 1);
brisko_template_fetch($t, "foot");
$kept = brisko_heap_get("ids", "kept");
foreach ($kept as $id) {
    var_dump(@brisko_template_get($id));
    var_dump(@brisko_template_attach($t, "foot", $id));
    var_dump(@brisko_template_assign($id, "title", "stale"));
}
var_dump(brisko_template_fetch($kept[0], "row*", 0));
echo brisko_template_get($t), "\n";
--EXPECTF--
5 ids kept
NULL
bool(false)
bool(false)
NULL
bool(false)
bool(false)
NULL
bool(false)
bool(false)
NULL
bool(false)
bool(false)
NULL
bool(false)
bool(false)

Warning: argument to id should be template_id in %s on line %d
NULL
<h1>{title}</h1>[{v}][{v}]{n}
