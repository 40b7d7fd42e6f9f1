<?php
// Strings with NUL and high bytes in code, defaults, keys and statics.
include "bin.php";
$p = new Packet();
$keys = array_keys($p->fields);
echo $p->size(), " ", strlen($keys[0]), " ", nul_default(), " ", nul_static(), nul_static(), " ", strlen($nul_top), " ";
echo str_replace("\0", "0", $p->header . $keys[0] . $nul_top) == "HD0\1\2enda0btop0level0\xff\xfe" ? "same bytes" : "bytes differ", " ";
echo ord(substr($nul_top, -1)), " ", strlen("inline\0literal"), "\n";
