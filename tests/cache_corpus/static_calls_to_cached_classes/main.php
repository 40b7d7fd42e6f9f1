<?php
// Class::method() calls without an object, on cached classes and on
// methods they inherit, sharing the statics of the declaring class.
include "util.php";
include "more_util.php";
echo Str::upper("a"), Html::upper("b"), Markup::upper("c"), " ", Str::wrap("x"), Html::wrap("y"), Markup::wrap("z"), "\n";
echo Str::count_calls(), Html::count_calls(), Markup::count_calls(), Str::count_calls(), " ", Markup::tag("i", "it"), Html::tag("i", "it"), "\n";
$m = new Markup();
echo $m->count_calls(), " ", call_user_func(array("Html", "wrap"), "cb"), "\n";
