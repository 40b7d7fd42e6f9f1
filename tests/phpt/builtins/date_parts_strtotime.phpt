--TEST--
strtotime reads the English date forms everyday pages use (ISO and US dates, month names, RFC 2822 with zones, times with am/pm, relative parts, "ago", weekdays) against a given now, -1 for text it cannot read; getdate, localtime, gmmktime, strftime and gmstrftime (TZ is UTC under the runner)
--ARGS--
-n
--FILE--
<?php
$now = 1078488000; // Friday 2004-03-05 12:00:00
$cases = array("now", "tomorrow", "yesterday", "+1 day", "-1 week", "+1 week 2 days 4 hours 2 seconds",
    "1 month ago", "3 days ago", "next thursday", "last monday", "friday", "next friday", "next month",
    "last year", "2004-12-31", "2004-02-29 13:45:00", "04/05/2005", "12/25", "10 September 2000 14:00",
    "30 September 2000 +1 day", "January 1, 2005", "Jan 1 2005", "Thu, 31 Jul 2003 13:02:01 +0200",
    "Sat, 13 Mar 2004 12:00:00 GMT", "17-JUN-1992", "15:30", "3pm", "3:30 pm", "20040229",
    "monday 10:00", "tomorrow 9am", "+2 weeks", "Mar 5", "garbage", "next", "+1 year", "32/13/2004", "2004-13-01",
    "+9999999999999999999 years", "+999999999 years", "12:99999999999999999999999", "2004-01-99999999999999", "13pm");
foreach ($cases as $c) {
    $t = strtotime($c, $now);
    echo $c, " => ", $t == -1 ? "-1" : gmdate("D Y-m-d H:i:s", $t), "\n";
}
var_dump(abs(strtotime("now") - time()) <= 1, strtotime());
$t = 1078488000;
print_r(getdate($t));
print_r(localtime($t, true));
echo implode(",", localtime($t)), "\n";
echo gmmktime(0, 0, 0, 1, 1, 2000), " ", gmmktime(12, 0, 0, 13, 1, 1999), "\n";
echo strftime("%Y-%m-%d %H:%M:%S %A %B %j %%", $t), "|", gmstrftime("%a %b %d %Y %Z", $t), "|";
var_dump(strftime(""));
--EXPECTF--
now => Fri 2004-03-05 12:00:00
tomorrow => Sat 2004-03-06 12:00:00
yesterday => Thu 2004-03-04 12:00:00
+1 day => Sat 2004-03-06 12:00:00
-1 week => Fri 2004-02-27 12:00:00
+1 week 2 days 4 hours 2 seconds => Sun 2004-03-14 16:00:02
1 month ago => Thu 2004-02-05 12:00:00
3 days ago => Tue 2004-03-02 12:00:00
next thursday => Thu 2004-03-11 00:00:00
last monday => Mon 2004-03-01 00:00:00
friday => Fri 2004-03-05 00:00:00
next friday => Fri 2004-03-12 00:00:00
next month => Mon 2004-04-05 12:00:00
last year => Wed 2003-03-05 12:00:00
2004-12-31 => Fri 2004-12-31 00:00:00
2004-02-29 13:45:00 => Sun 2004-02-29 13:45:00
04/05/2005 => Tue 2005-04-05 00:00:00
12/25 => Sat 2004-12-25 00:00:00
10 September 2000 14:00 => Sun 2000-09-10 14:00:00
30 September 2000 +1 day => Sun 2000-10-01 00:00:00
January 1, 2005 => Sat 2005-01-01 00:00:00
Jan 1 2005 => Sat 2005-01-01 00:00:00
Thu, 31 Jul 2003 13:02:01 +0200 => Thu 2003-07-31 11:02:01
Sat, 13 Mar 2004 12:00:00 GMT => Sat 2004-03-13 12:00:00
17-JUN-1992 => Wed 1992-06-17 00:00:00
15:30 => Fri 2004-03-05 15:30:00
3pm => Fri 2004-03-05 15:00:00
3:30 pm => Fri 2004-03-05 15:30:00
20040229 => Sun 2004-02-29 00:00:00
monday 10:00 => Mon 2004-03-08 10:00:00
tomorrow 9am => Sat 2004-03-06 09:00:00
+2 weeks => Fri 2004-03-19 12:00:00
Mar 5 => Fri 2004-03-05 00:00:00
garbage => -1
next => -1
+1 year => Sat 2005-03-05 12:00:00
32/13/2004 => -1
2004-13-01 => -1
+9999999999999999999 years => -1
+999999999 years => -1
12:99999999999999999999999 => -1
2004-01-99999999999999 => -1
13pm => -1

Warning: Wrong parameter count for strtotime() in %s on line %d
bool(true)
NULL
Array
(
    [seconds] => 0
    [minutes] => 0
    [hours] => 12
    [mday] => 5
    [wday] => 5
    [mon] => 3
    [year] => 2004
    [yday] => 64
    [weekday] => Friday
    [month] => March
    [0] => 1078488000
)
Array
(
    [tm_sec] => 0
    [tm_min] => 0
    [tm_hour] => 12
    [tm_mday] => 5
    [tm_mon] => 2
    [tm_year] => 104
    [tm_wday] => 5
    [tm_yday] => 64
    [tm_isdst] => 0
)
0,0,12,5,2,104,5,64,0
946684800 946728000
2004-03-05 12:00:00 Friday March 065 %|Fri Mar 05 2004 GMT|bool(false)
