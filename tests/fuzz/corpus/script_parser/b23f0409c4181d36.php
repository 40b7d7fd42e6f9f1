<?php
class A {}
$a = new A;
$m = "Missing";
$a->$m();
