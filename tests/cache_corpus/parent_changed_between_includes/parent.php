<?php
// Declares Base once per request, whatever version of the file runs.
$parent_version = 1;
if (!class_exists("Base")) {
    class Base {
        var $v = 1;
        function v() { return "base v1"; }
    }
}
