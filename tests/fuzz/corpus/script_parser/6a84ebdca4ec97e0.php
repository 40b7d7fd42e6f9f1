<?php
function declare_helper() {
    class Helper { function hi() { return "hi from helper"; } }
}
echo class_exists("helper") ? "early" : "not yet", "\n";
declare_helper();
$h = new Helper;
echo $h->hi(), "\n";
