--TEST--
Digests (md5, sha1, crc32 and the file forms) and encodings (base64, hex, UTF-8, C escapes, quotemeta, chunk_split) with their edge cases
--ARGS--
-n
--FILE--
<?php
foreach (array("", "a", "abc", "message digest", "abcdefghijklmnopqrstuvwxyz", str_repeat("1234567890", 8)) as $s) {
    echo md5($s), " ", sha1($s), " ", crc32($s), "\n";
}
echo md5(str_repeat("a", 1000000)), " ", sha1(str_repeat("a", 1000000)), "\n";
echo md5("a\0b"), " ", md5(123), " ", md5(1.5), " ", crc32("\xff\xff\xff\xff"), "\n";
file_put_contents("data.bin", "abc");
var_dump(md5_file("data.bin"), sha1_file("data.bin"), md5_file("missing.bin"), md5(), sha1("a", "b"));

echo "-- base64\n";
foreach (array("", "f", "fo", "foo", "foob", "fooba", "foobar", "\0\xff\xfe") as $s) {
    $e = base64_encode($s);
    echo "[$e] ", base64_decode($e) === $s ? "round trip" : "BROKEN", "\n";
}
var_dump(base64_decode("Zm9v YmFy"), base64_decode("Zm9v\nYmFy\n"), base64_decode("Zm9vYg"), base64_decode("Zm9vYg="), base64_decode("Zm9vY==="), base64_decode("=Zm9v"), base64_decode("Zm!!9v"), base64_decode("Zm9v\0YmFy"));

echo "-- hex and UTF-8\n";
var_dump(bin2hex(""), bin2hex("\x00\x7f\x80\xff"), bin2hex(255));
var_dump(bin2hex(utf8_encode("A\xe9\xff")), utf8_decode("A\xc3\xa9\xc3\xbf"), bin2hex(utf8_decode("\xe2\x82\xac|\xf0\x9f\x98\x80|\xc3")), bin2hex(utf8_decode("\x80")));

echo "-- C escapes\n";
var_dump(addcslashes("foo[bar]", 'A..Z'), addcslashes("zoo['.']", 'z..A'), addcslashes("tab\there\nnew\x01\xfe", "\0..\37\177..\377"), addcslashes("abc", ""), addcslashes("", "a"));
var_dump(addcslashes("x", "..a"), addcslashes("x", "a.."), addcslashes("a.b", "a..b..c"));
var_dump(stripcslashes('\a\b\f\n\r\t\v\\\\'), bin2hex(stripcslashes('\x41\x4g\101\08\777\q\\')), stripcslashes('trailing\\'));
var_dump(stripcslashes(addcslashes("round\x00trip\xff\n!", "\0..\37\177..\377")) === "round\x00trip\xff\n!");

echo "-- quotemeta and chunk_split\n";
var_dump(quotemeta(". \\ + * ? [ ^ ] $ ( ) plain"), quotemeta(""), quotemeta("nothing"));
var_dump(chunk_split("abcdefgh", 3, "|"), chunk_split("abcdef", 3, "|"), chunk_split("ab", 10), chunk_split("", 3), chunk_split("abc", 1, ""), chunk_split("abc", -1), chunk_split("abc", 0));
--EXPECTF--
d41d8cd98f00b204e9800998ecf8427e da39a3ee5e6b4b0d3255bfef95601890afd80709 0
0cc175b9c0f1b6a831c399e269772661 86f7e437faa5a7fce15d1ddcb9eaeaea377667b8 3904355907
900150983cd24fb0d6963f7d28e17f72 a9993e364706816aba3e25717850c26c9cd0d89d 891568578
f96b697d7cb7938d525a2f31aaf161d0 c12252ceda8be8994d5fa0290a47231c1d16aae3 538287487
c3fcd3d76192e4007dfb496cca67e13b 32d10c7b8cf96570ca04ce37f2a19d84240d3a89 1277644989
57edf4a22be3c955ac49da2e2107b67a 50abf5706a150990a08b2c5ea40fa0e585554732 2091469426
7707d6ae4e027c70eea2a935c2296f21 34aa973cd4c4daa4f61eeb2bdbad27316534016f
70350f6027bce3713f6b76473084309b 202cb962ac59075b964b07152d234b70 6008647277c4454cecd97d33c069f0ca 4294967295

Warning: md5_file(missing.bin): failed to open stream: No such file or directory in %s on line 8

Warning: Wrong parameter count for md5() in %s on line 8

Warning: Wrong parameter count for sha1() in %s on line 8
string(32) "900150983cd24fb0d6963f7d28e17f72"
string(40) "a9993e364706816aba3e25717850c26c9cd0d89d"
bool(false)
NULL
NULL
-- base64
[] round trip
[Zg==] round trip
[Zm8=] round trip
[Zm9v] round trip
[Zm9vYg==] round trip
[Zm9vYmE=] round trip
[Zm9vYmFy] round trip
[AP/+] round trip
string(6) "fooù‰…"
string(6) "foobar"
string(4) "foob"
string(4) "foob"
bool(false)
bool(false)
string(3) "foo"
string(3) "foo"
-- hex and UTF-8
string(0) ""
string(8) "007f80ff"
string(6) "323535"
string(10) "41c3a9c3bf"
string(3) "Aéÿ"
string(10) "3f7c3f7c3f"
string(2) "80"
-- C escapes

Warning: addcslashes(): Invalid '..'-range, '..'-range needs to be incrementing. in %s on line 22
string(8) "foo[bar]"
string(10) "\zoo['\.']"
string(22) "tab\there\nnew\001\376"
string(3) "abc"
string(0) ""

Warning: addcslashes(): Invalid '..'-range, no character to the left of '..'. in %s on line 23

Warning: addcslashes(): Invalid '..'-range, no character to the right of '..'. in %s on line 23

Warning: addcslashes(): Invalid '..'-range. in %s on line 23
string(1) "x"
string(1) "x"
string(6) "\a\.\b"
string(8) "
	\"
string(18) "410467410038ff715c"
string(9) "trailing\"
bool(true)
-- quotemeta and chunk_split
string(38) "\. \\ \+ \* \? \[ \^ \] \$ \( \) plain"
bool(false)
string(7) "nothing"

Warning: chunk_split(): Chunk length should be greater than zero. in %s on line 29

Warning: chunk_split(): Chunk length should be greater than zero. in %s on line 29
string(11) "abc|def|gh|"
string(8) "abc|def|"
string(4) "ab
"
string(0) ""
string(3) "abc"
bool(false)
bool(false)
