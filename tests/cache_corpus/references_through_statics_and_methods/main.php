<?php
// References and PHP 4 object copies through cached code: registries kept
// in statics, references handed out of functions and methods, default
// property arrays changed through references.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "registry.php";
$a =& registry();
$a["req"] = $request;
$b =& registry();
$b["seen"][] = "main";
print_r(registry());
$n = new Node("root");
$child = new Node("leaf");
$n->add($child);
$child->name = "changed after add";
$ref =& $n->first();
$ref->name = "changed through reference";
print_r($n);
$copy = $n;
$copy->children[0]->name = "copy only";
echo $n->children[0]->name, " / ", $copy->children[0]->name, "\n";
$list = $n->defaults;
$list[] = "local";
$r =& $n->defaults;
$r[] = "through ref";
print_r($n->defaults);
$fresh = new Node("again");
print_r($fresh->defaults);
echo count(instances()), "\n";
