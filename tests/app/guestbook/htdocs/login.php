<?php
/* Logging in and out. */
require_once '../lib/common.inc.php';

if (isset($_GET['action']) && $_GET['action'] == 'logout') {
    $who = gb_current_user();
    gb_logout();
    gb_header('Logged out');
    echo $who ? '<p>Goodbye, ' . h($who) . "!</p>\n" : "<p>You were not logged in.</p>\n";
    gb_footer();
    exit;
}

/* Where to go afterwards: a page of this guestbook only. */
$back = isset($_REQUEST['back']) ? $_REQUEST['back'] : '';
if (!preg_match('/^[a-z]+\.php(\?[a-z]+=[0-9]+)?$/', $back)) {
    $back = 'index.php';
}

$form = new FormValidator($_POST);
if ($_SERVER['REQUEST_METHOD'] == 'POST') {
    $failures = isset($_SESSION['failures']) ? $_SESSION['failures'] : 0;
    if ($failures >= GB_MAX_LOGIN_FAILURES) {
        $form->fail('name', 'Too many failed attempts. Please try again later.');
    } else {
        $form->required('name', 'Your name');
        $form->required('password', 'Your password');
        if ($form->isValid()) {
            $member =& $users->find($form->value('name'));
            if ($member && $member->checkPassword($form->value('password'))) {
                gb_login($member->name);
                gb_flash('Welcome back, ' . $member->name . '.');
                gb_redirect($back);
            }
            $_SESSION['failures'] = $failures + 1;
            $form->fail('password', 'Wrong name or password.');
        }
    }
}

gb_header('Log in');
gb_errors($form->errors);
echo '<form method="post" action="login.php">', "\n";
echo '<input type="hidden" name="back" value="', h($back), '" />', "\n";
echo '<p>Name: ', gb_input('text', 'name', $form->value('name')), "</p>\n";
echo '<p>Password: ', gb_input('password', 'password', $form->value('password')), "</p>\n";
echo '<p><input type="submit" value="Log in" /></p>', "\n</form>\n";
gb_footer();
?>
