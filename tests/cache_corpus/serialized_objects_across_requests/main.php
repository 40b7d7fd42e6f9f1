<?php
// Objects of cached classes saved with serialize in one request and read
// back in the next, before and after their class files are included.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$saved = @file_get_contents("state.txt");
if ($saved !== false) {
    $early = unserialize($saved);
    echo get_class($early), "\n";
    print_r($early);
}
include "model.php";
include "user.php";
if ($saved !== false) {
    $state = unserialize($saved);
    echo get_class($state), " ", $state->name(), " ", $state->visits, "\n";
    print_r(get_object_vars($state));
    $state->visits++;
} else {
    $state = new User("ann");
}
$state->tags[] = "r" . $request;
$s = serialize($state);
echo $s, "\n";
file_put_contents("state.txt", $s);
$copy = $state;
$copy->visits = 99;
echo $state->visits, " ", $copy->visits, "\n";
print_r(get_class_methods("User"));
echo get_parent_class($state), " ", is_subclass_of($state, "Model") ? "sub" : "not", "\n";
