<?php
/* Becoming a member. */
require_once '../lib/common.inc.php';

$form = new FormValidator($_POST);
if ($_SERVER['REQUEST_METHOD'] == 'POST') {
    if ($form->required('name', 'A name')) {
        $form->pattern('name', '/^[A-Za-z][A-Za-z0-9_]{2,15}$/',
                       'A name is 3 to 16 letters, digits or _, starting with a letter.');
    }
    if ($form->required('email', 'An e-mail address')) {
        $form->email('email');
    }
    if ($form->required('password', 'A password')) {
        if ($form->length('password', 'The password', 6, 40)) {
            $form->pattern('password', '/[0-9]/', 'The password needs at least one digit.');
        }
        $form->same('password', 'password2', 'The two passwords differ.');
    }
    if ($form->isValid()) {
        $user = new User($form->value('name'), strtolower($form->value('email')), gb_now());
        $user->setPassword($form->value('password'));
        if ($users->add($user)) {
            gb_login($user->name);
            gb_flash('Welcome, ' . $user->name . '! You are now a member.');
            gb_redirect('index.php');
        }
        $form->fail('name', 'The name ' . $form->value('name') . ' is taken.');
    }
}

gb_header('Register');
gb_errors($form->errors);
echo '<form method="post" action="register.php">', "\n";
$fields = array('name' => array('text', 'Name'), 'email' => array('text', 'E-mail'),
                'password' => array('password', 'Password'), 'password2' => array('password', 'Again'));
while (list($name, list($type, $label)) = each($fields)) {
    echo '<p>', $label, ': ', gb_input($type, $name, $form->value($name)), "</p>\n";
}
echo '<p><input type="submit" value="Register" /></p>', "\n</form>\n";
gb_footer();
?>
