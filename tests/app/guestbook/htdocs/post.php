<?php
/* Writing: a new topic (the form), a reply, or, for the admin, deleting a topic. */
require_once '../lib/common.inc.php';

$user = gb_current_user();
if (!$user) {
    gb_flash('Please log in first.');
    gb_redirect('login.php');
}

$method = $_SERVER['REQUEST_METHOD'];
$form = new FormValidator($method == 'POST' ? $_POST : array());

if ($method == 'POST' && isset($_POST['delete'])) {
    $member =& $users->find($user);
    if (!$member || !$member->admin) {
        header('HTTP/1.0 403 Forbidden');
        gb_header('Not allowed');
        echo "<p>Only the guestbook's keeper may delete topics.</p>\n";
        gb_footer();
        exit;
    }
    if ($forum->deleteTopic((int)$_POST['delete'])) {
        gb_flash('The topic was deleted.');
    }
    gb_redirect('index.php');
}

if ($method == 'POST' && isset($_POST['topic'])) {
    $topic_id = (int)$form->value('topic');
    if ($form->required('body', 'Your reply')) {
        $form->length('body', 'Your reply', 2, 2000);
    }
    if ($form->isValid()) {
        if ($forum->addReply($topic_id, new Message($user, '', $form->value('body'), gb_now()))) {
            $users->countPost($user);
            gb_flash('Thank you for your reply.');
        } else {
            gb_flash('That topic is gone; your reply was not kept.');
        }
        gb_redirect('topic.php?id=' . $topic_id);
    }
    gb_header('Reply');
    gb_errors($form->errors);
    echo '<p><a href="topic.php?id=', $topic_id, '">Back to the topic</a></p>', "\n";
    gb_footer();
    exit;
}

if ($method == 'POST') {
    if ($form->required('subject', 'The subject')) {
        $form->length('subject', 'The subject', 3, 60);
    }
    if ($form->required('body', 'The message')) {
        $form->length('body', 'The message', 2, 2000);
    }
    if (preg_match('/\b(?:viagra|casino)\b/i', $form->value('subject') . ' ' . $form->value('body'))) {
        $form->fail('body', 'Your message looks like spam.');
    }
    if ($form->isValid()) {
        $id = $forum->addTopic(new Message($user, $form->value('subject'), $form->value('body'), gb_now()));
        $users->countPost($user);
        gb_flash('Your topic is up.');
        gb_redirect('topic.php?id=' . $id);
    }
}

gb_header('New topic');
gb_errors($form->errors);
echo '<form method="post" action="', h(gb_self()), '">', "\n";
echo '<p>Subject: ', gb_input('text', 'subject', $form->value('subject'), 50), "</p>\n";
echo '<p><textarea name="body" rows="8" cols="60">', h($form->value('body')), "</textarea></p>\n";
echo '<p><input type="submit" value="Post" /></p>', "\n</form>\n";
echo "<p>You may use [b]bold[/b], [i]italics[/i] and [url]http://...[/url].</p>\n";
gb_footer();
?>
