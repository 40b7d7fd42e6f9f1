<?php
/*
 * Page layout and text formatting. Everything a visitor typed goes through
 * h() or gb_format() before it is printed.
 */
class Template
{
    var $text;
    var $vars;

    function Template($text)
    {
        $this->text = $text;
        $this->vars = array();
    }

    function set($name, $value)
    {
        $this->vars[strtoupper($name)] = $value;
    }

    function replaceVar($match)
    {
        return isset($this->vars[$match[1]]) ? $this->vars[$match[1]] : '';
    }

    function fetch()
    {
        return preg_replace_callback('/\{([A-Z_]+)\}/', array(&$this, 'replaceVar'), $this->text);
    }
}

function h($text)
{
    return htmlspecialchars($text);
}

function gb_date($time)
{
    return date('D j M Y, H:i', $time);
}

function gb_link_url($match)
{
    $url = $match[1];
    $shown = strlen($url) > 40 ? substr($url, 0, 37) . '...' : $url;
    return '<a href="' . $url . '" rel="nofollow">' . $shown . '</a>';
}

/* A message body as HTML: overlong words broken up (they would stretch the
 * page), escaped, then [b], [i] and [url] markup, smileys and line breaks. */
function gb_format($text)
{
    global $GB_SMILEYS;

    $html = h(preg_replace('/(\S{60})(?=\S)/', '\\1 ', $text));
    $html = preg_replace('/\[b\](.+?)\[\/b\]/is', '<b>\\1</b>', $html);
    $html = preg_replace('/\[i\](.+?)\[\/i\]/is', '<i>$1</i>', $html);
    $html = preg_replace_callback('#\[url\](https?://[^\s\[\]]+)\[/url\]#i', 'gb_link_url', $html);
    reset($GB_SMILEYS);
    while (list($typed, $picture) = each($GB_SMILEYS)) {
        $html = str_replace(h($typed), '<img src="' . $picture . '" alt="' . h($typed) . '" />', $html);
    }
    return nl2br($html);
}

/* This page's own address, for forms that post back to it. */
function gb_self()
{
    global $HTTP_SERVER_VARS;
    return $HTTP_SERVER_VARS['PHP_SELF'];
}

function gb_header($title)
{
    $user = gb_current_user();
    if ($user) {
        $nav = 'Logged in as <b>' . h($user) . '</b> | <a href="post.php">New topic</a> | '
             . '<a href="login.php?action=logout">Log out</a>';
    } else {
        $nav = '<a href="login.php">Log in</a> | <a href="register.php">Register</a>';
    }
    $html = <<<EOT
<html>
<head><title>{TITLE} - {SITE}</title></head>
<body>
<h1><a href="index.php">{SITE}</a></h1>
<p class="nav"><a href="index.php">Topics</a> | {NAV}</p>

EOT;
    $page = new Template($html);
    $page->set('title', h($title));
    $page->set('site', h(GB_TITLE));
    $page->set('nav', $nav);
    echo $page->fetch();
    $flash = gb_take_flash();
    if ($flash != '') {
        echo '<p class="flash">', h($flash), "</p>\n";
    }
}

function gb_footer()
{
    global $forum, $users;
    list($topics, $replies) = $forum->totals();
    printf("<p class=\"footer\">%d %s, %d %s, %d %s</p>\n</body>\n</html>\n",
           $topics, $topics == 1 ? 'topic' : 'topics',
           $replies, $replies == 1 ? 'reply' : 'replies',
           $users->count(), $users->count() == 1 ? 'member' : 'members');
}

function gb_errors($errors)
{
    if (count($errors) == 0) {
        return;
    }
    echo "<ul class=\"errors\">\n";
    foreach ($errors as $message) {
        echo '<li>', h($message), "</li>\n";
    }
    echo "</ul>\n";
}

/* <input> for a form field, holding what was typed (never a password). */
function gb_input($type, $name, $value, $size = 30)
{
    if ($type == 'password') {
        $value = '';
    }
    return sprintf('<input type="%s" name="%s" value="%s" size="%d" />', $type, $name, h($value), $size);
}
?>
