--TEST--
Record limit: a flat page of 60,000 single blocks parses whole; single blocks nested too deeply to copy stay text with a warning naming the file, at every load
--FILE--
<?php
$blocks = array();
for ($i = 0; $i < 60000; $i++) $blocks[] = "<!-- BEGIN b$i -->x<!-- END b$i -->";
file_put_contents("flat.tpl", implode("", $blocks));
$out = brisko_template_get(brisko_template_load("flat.tpl"));
echo strlen($out), " ", substr_count($out, "BEGIN"), "\n";

// Each level holds two single blocks: the first instances double the
// records at every level.
function nest($d) {
    if ($d == 0) return "x";
    $in = nest($d - 1);
    return "<!-- BEGIN a$d -->$in<!-- END a$d --><!-- BEGIN b$d -->$in<!-- END b$d -->";
}
file_put_contents("nest.tpl", "<!-- BEGIN top -->" . nest(11) . "<!-- END top -->");
$out = brisko_template_get(brisko_template_load("nest.tpl"));
echo strlen($out) > 0 ? "rendered\n" : "empty\n";
brisko_template_load("nest.tpl");
--EXPECTF--
60000 0

Warning: Template %snest.tpl: its blocks and their first instances would pass %d records; the single blocks past them are left as text in %s on line %d
rendered

Warning: Template %snest.tpl: its blocks and their first instances would pass %d records; the single blocks past them are left as text in %s on line %d
