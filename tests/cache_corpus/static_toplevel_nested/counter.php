<?php
static $visits = 0, $trail = array("start");
$visits++;
$trail[] = $where;
echo "[", $where, ":", $visits, ":", count($trail), "]";
