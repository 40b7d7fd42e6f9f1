--TEST--
A 1.2 MB page ten blocks deep: every level is a block that can be fetched, none is left as text
--FILE--
<?php
$t = "";
for ($i = 0; $i < 10; $i++) $t .= "<!-- BEGIN b$i -->[$i";
$t .= str_repeat("<p>some filler text {x}</p>\n", 45000);
for ($i = 9; $i >= 0; $i--) $t .= "$i]<!-- END b$i -->";
file_put_contents("deep.tpl", $t);
echo strlen($t) > 1200000 ? "big\n" : "small\n";
$cur = brisko_template_load("deep.tpl");
for ($i = 0; $i < 10; $i++) {
    $cur = brisko_template_fetch($cur, "b$i");
    if (!$cur) break;
}
echo "levels reached: $i\n";
brisko_template_assign($cur, "x", "X");
$out = brisko_template_get(brisko_template_load("deep.tpl"));
echo substr_count($out, "<!--"), " markers, ", substr_count($out, "{x}"), " tags\n";
echo substr($out, 0, 23), "\n";
$out = brisko_template_get($cur);
echo substr_count($out, "<p>some filler text X</p>"), "\n";
--EXPECT--
big
levels reached: 10
0 markers, 45000 tags
[0[1[2[3[4[5[6[7[8[9<p>
45000
