--TEST--
Block paths, single and repeat blocks, attach, a template inside itself, check-tagname warnings
--INCLUDE-- outer.html
[<!-- BEGIN box -->box:{v}<!-- BEGIN item* -->({v})<!-- END item* --><!-- END box -->]
--INCLUDE-- inner.html
<i>{v}</i>
--FILE--
<?php
$o = brisko_template_load("outer.html");
$item = brisko_template_load("outer.html", "box->item*");
echo brisko_template_get($item), "\n";
var_dump(brisko_template_load("outer.html", "nope"));
$box = brisko_template_fetch($o, "box", 9);
var_dump($box === brisko_template_fetch($o, "box"));
brisko_template_fetch($box, "item*", 1);
echo brisko_template_get($o), "\n";
$i = brisko_template_load("inner.html");
var_dump(brisko_template_attach($box, "item*", $i));
brisko_template_assign($i, "v", "in");
echo brisko_template_get($o), "\n";
var_dump(brisko_template_attach($o, "box", $o));
echo brisko_template_get($o), "\n";
var_dump(brisko_template_attach($o, "item*", $i));
brisko_template_check_tagname();
var_dump(brisko_template_assign($i, "w%d", 1));
var_dump(brisko_template_fetch($o, "item*"));
var_dump(brisko_template_get(12345));
--EXPECTF--
({v})
int(0)
bool(true)
[box:{v}({v})({v})]

bool(true)
[box:{v}<i>in</i>
<i>in</i>
]

bool(true)

Warning: Template contains itself through block 'box'; the repeated part is left out in %s on line %d
[]

bool(false)

Warning: Illegal tagname('w%%d') in %s on line %d
bool(false)

Warning: Illegal tagname('item*') in %s on line %d
NULL

Warning: argument to id should be template_id in %s on line %d
NULL
