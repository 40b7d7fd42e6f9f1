<?php
/*
 * Guestbook settings. A site owner edits this file and nothing else.
 */
define('GB_TITLE', 'The Brisko Guestbook');
define('GB_DATA_DIR', dirname(__FILE__) . '/../data');
define('GB_TOPICS_PER_PAGE', 3);
define('GB_SESSION_NAME', 'GBSESS');
define('GB_PASSWORD_SALT', 'gb4:');
define('GB_MAX_LOGIN_FAILURES', 3);

/* Smileys: what is typed => the picture that replaces it. */
$GB_SMILEYS = array(
    ':-)' => 'smile.gif',
    ':-(' => 'sad.gif',
    ';-)' => 'wink.gif',
);

error_reporting(E_ALL);
?>
