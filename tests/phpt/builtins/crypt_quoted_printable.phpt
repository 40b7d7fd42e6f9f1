--TEST--
crypt() by the salt's method, made salts, failure texts; quoted_printable_decode() escapes, soft breaks and stray '='
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
var_dump(CRYPT_SALT_LENGTH, CRYPT_STD_DES, CRYPT_EXT_DES, CRYPT_MD5, CRYPT_BLOWFISH);
// standard DES: two salt bytes; a whole earlier hash works as the salt
$des = crypt("rasmuslerdorf", "rl");
var_dump($des, crypt("rasmuslerdorf", $des) == $des);
var_dump(crypt("rasmuslerdorf", "_J9..rasm"));
var_dump(crypt("rasmuslerdorf", '$1$rasmusle$'));
var_dump(crypt("rasmuslerdorf", '$2a$07$usesomesillystringforsalt$'));
// no salt: a new MD5 salt each time, and the hash checks against itself
$a = crypt("secret");
$b = crypt("secret");
var_dump(strlen($a), substr($a, 0, 3), $a != $b, crypt("secret", $a) == $a, crypt("other", $a) == $a);
var_dump(strlen(crypt("secret", "")));
// salts the library cannot use, and input it refuses
var_dump(crypt("pw", "!!"), crypt("pw", "*0"), crypt("pw", "a\0b"));
var_dump(crypt(str_repeat("x", 100000), "ab"));
var_dump(crypt(), crypt("a", "b", "c"), crypt(12345, "ab") == crypt("12345", "ab"));

echo "-- quoted_printable_decode\n";
var_dump(quoted_printable_decode("caf=E9 =3D =3d"));
var_dump(bin2hex(quoted_printable_decode("=00=FF=0A")));
var_dump(quoted_printable_decode("soft=\r\nbreak, soft=  \t\nbreak, end=  "));
var_dump(quoted_printable_decode("a=b =G1 =4 ="));
var_dump(quoted_printable_decode("cut\0=41"), quoted_printable_decode(""), quoted_printable_decode(42));
var_dump(strlen(quoted_printable_decode(str_repeat("=41", 100000))));
var_dump(quoted_printable_decode(), quoted_printable_decode("a", "b"));
--EXPECTF--
int(60)
int(1)
int(1)
int(1)
int(1)
string(13) "rl.3StKT.4T8M"
bool(true)
string(20) "_J9..rasmBYk8r9AiWNc"
string(34) "$1$rasmusle$rISCgZzpwk3UhDidwXvin0"
string(60) "$2a$07$usesomesillystringfore2uDLvp1Ii2e./U9C8sBjqp8I90dH6hi"
int(34)
string(3) "$1$"
bool(true)
bool(true)
bool(false)
int(34)
string(2) "*0"
string(2) "*1"
string(2) "*0"
string(2) "*0"

Warning: Wrong parameter count for crypt() in %s on line 18

Warning: Wrong parameter count for crypt() in %s on line 18
NULL
NULL
bool(true)
-- quoted_printable_decode
string(8) "caf%c = ="
string(6) "00ff0a"
string(25) "softbreak, softbreak, end"
string(11) "a=b =G1 =4 "
string(3) "cut"
string(0) ""
string(2) "42"
int(100000)

Warning: Wrong parameter count for quoted_printable_decode() in %s on line 27

Warning: Wrong parameter count for quoted_printable_decode() in %s on line 27
NULL
NULL
