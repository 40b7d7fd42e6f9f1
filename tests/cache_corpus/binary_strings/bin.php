<?php
class Packet {
    var $header = "HD\0\1\2end";
    var $fields = array("a\0b" => "x\0y", "plain" => "\0");
    function size() { return strlen($this->header) . "/" . strlen($this->fields["a\0b"]) . "/" . count($this->fields); }
}
function nul_default($s = "one\0two") { return strlen($s); }
function nul_static() { static $s = "s\0t\0u"; $s .= "\0"; return strlen($s); }
$nul_top = "top\0level" . chr(0) . "\xff\xfe";
