<?php
// Functions and a class declared inside a function exist only once the
// function has run; some requests call it, others do not.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "installer.php";
echo $request, ": before ", installed(), class_exists("HelperBox") ? " box" : " nobox";
if ($request % 2 == 0) {
    echo " ", install_helpers(), " ", helper_upper("abc"), helper_count(), helper_count();
    $b = new HelperBox();
    echo " size ", $b->size();
}
echo " after ", installed(), class_exists("HelperBox") ? " box" : " nobox", "\n";
