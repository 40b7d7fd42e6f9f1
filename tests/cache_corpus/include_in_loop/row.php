<?php
static $rows_in_this_include = 0;
$rows_in_this_include++;
if (!function_exists("cell")) {
    function cell($v) { static $cells = 0; $cells++; return "<td>" . $v . "</td>" . ($cells % 50 == 0 ? "\n" : ""); }
}
if (!class_exists("RowCounter")) {
    class RowCounter { var $n = 0; function add() { return ++$this->n; } }
    $row_counter = new RowCounter();
}
$row_counter->add();
return cell($i * $rows_in_this_include);
