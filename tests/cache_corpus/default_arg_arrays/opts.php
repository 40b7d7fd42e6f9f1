<?php
function with_opts($opts = array("depth" => 1, "tags" => array("a", "b"), "max" => MAX_ITEMS)) {
    $opts["tags"][] = "added";
    $opts["depth"]++;
    return $opts["depth"] . ":" . implode(",", $opts["tags"]) . ":" . $opts["max"];
}
class Query {
    function where($conds = array(array("id", ">", 0)), $limit = MAX_ITEMS) {
        $conds[] = array("limit", "=", $limit);
        $s = array();
        foreach ($conds as $c) { $s[] = implode("", $c); }
        return implode(" and ", $s);
    }
}
