<?php
/* One topic with its replies, and a reply form for members. */
require_once '../lib/common.inc.php';

$id = isset($_GET['id']) ? $_GET['id'] : '';
$topic = preg_match('/^[1-9][0-9]{0,8}$/', $id) ? $forum->topic((int)$id) : null;
if ($topic === null) {
    header('HTTP/1.0 404 Not Found');
    gb_header('No such topic');
    echo "<p>There is no topic with that number. It may have been deleted.</p>\n";
    gb_footer();
    exit;
}

gb_header($topic->subject);
echo '<div class="topic">', "\n";
echo '<h2>', h($topic->subject), "</h2>\n";
$messages = array_merge(array($topic), $topic->replies);
foreach ($messages as $n => $message) {
    echo '<div class="message" id="m', $message->id, '">', "\n";
    $author =& $users->find($message->author);
    $posts = $author ? $author->posts : 0;
    echo '<p class="by">', $n == 0 ? 'Written' : 'Reply #' . $n, ' by <b>', h($message->author), '</b> (',
         $posts, $posts == 1 ? ' post' : ' posts', ') on ', gb_date($message->time), "</p>\n";
    echo '<p>', gb_format($message->body), "</p>\n";
    echo "</div>\n";
}
echo "</div>\n";

$user = gb_current_user();
if ($user) {
    $_SESSION['seen'][$topic->id] = $topic->lastActivity();
    $member =& $users->find($user);
    if ($member && $member->admin) {
        echo '<form method="post" action="post.php"><input type="hidden" name="delete" value="', $topic->id, '" />',
             '<input type="submit" value="Delete this topic" /></form>', "\n";
    }
    echo '<form method="post" action="post.php">', "\n",
         '<input type="hidden" name="topic" value="', $topic->id, '" />', "\n",
         '<textarea name="body" rows="5" cols="60"></textarea><br />', "\n",
         '<input type="submit" value="Reply" /></form>', "\n";
} else {
    echo '<p><a href="login.php?back=', urlencode('topic.php?id=' . $topic->id), '">Log in</a> to reply.</p>', "\n";
}
gb_footer();
?>
