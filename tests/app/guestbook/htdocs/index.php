<?php
/* The topic list, most recently active first, a few to a page. */
require_once '../lib/config.inc.php';
require_once '../lib/common.inc.php';

$pages = $forum->pageCount(GB_TOPICS_PER_PAGE);
$page = isset($_GET['page']) ? (int)$_GET['page'] : 1;
if ($page < 1 || $page > $pages) {
    $page = 1;
}

gb_header('Topics');

$topics = $forum->topics($page, GB_TOPICS_PER_PAGE);
if (count($topics) == 0) {
    echo "<p>No topics yet. Be the first to write!</p>\n";
} else {
    echo "<table class=\"topics\">\n";
    echo "<tr><th>Topic</th><th>By</th><th>Replies</th><th>Last activity</th></tr>\n";
    $row = 0;
    $user = gb_current_user();
    while (list(, $topic) = each($topics)) {
        $class = ($row++ % 2) ? 'odd' : 'even';
        // members see which topics changed since they last read them
        $new = $user && (!isset($_SESSION['seen'][$topic->id])
                         || $_SESSION['seen'][$topic->id] < $topic->lastActivity());
        printf("<tr class=\"%s\"><td><a href=\"topic.php?id=%d\">%s</a>%s</td><td>%s</td><td>%d</td><td>%s</td></tr>\n",
               $class, $topic->id, h($topic->subject), $new ? ' <i>(new)</i>' : '', h($topic->author),
               count($topic->replies), gb_date($topic->lastActivity()));
    }
    echo "</table>\n";
}

if ($pages > 1) {
    echo '<p class="pages">Page';
    for ($i = 1; $i <= $pages; $i++) {
        echo $i == $page ? " <b>$i</b>" : " <a href=\"index.php?page=$i\">$i</a>";
    }
    echo "</p>\n";
}

gb_footer();
?>
