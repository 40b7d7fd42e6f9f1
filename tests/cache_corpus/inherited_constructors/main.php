<?php
// A class without a constructor runs the nearest ancestor's, which may
// live in another file; a constructor of its own replaces it.
include "record.php";
include "post.php";
include "subclasses.php";
$objs = array(new Post(3), new Draft(4), new Draft(), new Page(5, "p"), new StaticPage(6, "s"), new Article());
foreach ($objs as $o) {
    echo get_class($o), ":", var_export($o->id, true), ":", implode("+", $o->made), isset($o->title) ? ":" . $o->title : "", " ";
}
echo "\n";
