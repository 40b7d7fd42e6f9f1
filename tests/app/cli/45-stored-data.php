<?php
/* What the guestbook keeps on disk: its data in PHP's serialization
 * format, the sessions in the session format, one file per session. */
$data = dirname(__FILE__) . '/guestbook/data';
echo "==== data files\n";
foreach (array('users.dat', 'forum.dat') as $name) {
    echo "$name:\n", file_get_contents("$data/$name"), "\n";
}
$sessions = array();
$dir = opendir("$data/sessions");
while (($entry = readdir($dir)) !== false) {
    if (preg_match('/^sess_([a-z0-9]+)$/', $entry, $m)) {
        $sessions[$m[1]] = file_get_contents("$data/sessions/$entry");
    }
}
closedir($dir);
ksort($sessions);
echo count($sessions), " session files\n";
foreach (array('annsess', 'bobsess', 'bobsess2', 'carolsess', 'visitor') as $id) {
    echo "$id: ", isset($sessions[$id]) ? $sessions[$id] : '(none)', "\n";
}
