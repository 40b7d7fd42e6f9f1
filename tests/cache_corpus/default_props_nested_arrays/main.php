<?php
// Nested array defaults: every new object starts from the declared values,
// whatever earlier objects (and earlier requests) did to theirs.
include "form.php";
include "signup.php";
$a = new SignupForm();
$a->fields["name"]["rules"][1]["max"] = 10;
$a->matrix[2][1][1][0] = "nine";
$a->extra["captcha"]["tries"][] = 8;
$a->empty[] = "x";
echo $a->addField("email"), " ", $a->rule("name", 1) === array("max" => 10) ? "changed" : "same", " ";
$b = new SignupForm();
$c = new Form();
echo count($b->fields), count($c->fields), " ", $b->fields["name"]["rules"][1]["max"], " ", $b->matrix[2][1][1][0], " ";
echo count($b->extra["captcha"]["tries"]), count($b->empty), " ", $a->matrix[2][1][1][0], "\n";
print_r($c->mixed);
echo implode(",", array_keys($b->mixed)), "\n";
