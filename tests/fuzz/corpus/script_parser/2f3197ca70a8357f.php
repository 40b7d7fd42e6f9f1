<?php
class Node {
    var $children = array();
    var $label;
    function Node($label) { $this->label = $label; }
    function add($child) { $this->children[] = $child; return $this; }
}
$root = new Node("root");
$index = array();
for ($i = 0; $i < 200; $i++) {
    $n = new Node("n" . $i);
    $n->add(new Node(str_repeat("x", $i % 17)));
    $root->add($n);
    $index["k" . $i] = array($i, $n->label, array("deep" => $root->label . $i));
}
$copy = $index;
$copy["k1"][2]["deep"] = "changed";
$text = "";
foreach ($index as $k => $v) { $text .= $k . "=" . $v[1] . ";"; }
echo (strlen($text) == 1780 && count($root->children) == 200 && $index["k1"][2]["deep"] == "root1") ? "." : "!";
