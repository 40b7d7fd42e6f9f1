<?php
echo early(), "\n";
function early() { return "hoisted"; }
echo function_exists("later") ? "yes" : "no", "\n";
if (true) {
    function later() { return "later"; }
}
echo function_exists("later") ? "yes" : "no", " ", LATER(), "\n";
if (false) { function never() {} }
echo function_exists("never") ? "yes" : "no", "\n";
function outer() {
    function inner() { return "inner"; }
    return "outer";
}
echo function_exists("inner") ? "yes" : "no";
echo outer(), inner(), "\n";
class Root { function hello() { return "root"; } }
if (1) {
    class Leaf extends Root { function leaf() { return "leaf"; } }
}
$l = new LEAF;
echo $l->hello(), $l->Leaf(), "\n";
outer();
