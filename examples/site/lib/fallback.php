<?php
// Plain-PHP stand-ins for the extension's functions, for a server started
// without it (brisko-httpd -n). The templates render the same, but each
// request reads and parses them again, and the value store lasts one
// request only. Only the template syntax the site uses is understood:
// markers written "<!-- BEGIN name -->" and "<!-- END name -->".
define("SITE_FALLBACK", 1);

$fallback_templates = array(); // template id => record
$fallback_store = array();

function fallback_blanks_left($text)
{
    $i = 0;
    while ($i < strlen($text) && ($text[$i] == " " || $text[$i] == "\t")) {
        $i++;
    }
    return substr($text, $i);
}

function fallback_blanks_right($text)
{
    $n = strlen($text);
    while ($n > 0 && ($text[$n - 1] == " " || $text[$n - 1] == "\t")) {
        $n--;
    }
    return substr($text, 0, $n);
}

// A template's text into its parts (literal text and tags, alternately)
// and its blocks, each parsed the same way.
function fallback_parse($text)
{
    $blocks = array();
    $rest = "";
    $pos = 0;
    while (($begin = strpos($text, "<!-- BEGIN ", $pos)) !== false) {
        $close = strpos($text, " -->", $begin + 11);
        if ($close === false) {
            break;
        }
        $name = substr($text, $begin + 11, $close - $begin - 11);
        $marker = "<!-- END " . $name . " -->";
        $end = false;
        $from = $close + 4;
        while (($found = strpos($text, $marker, $from)) !== false) {
            $end = $found;
            $from = $found + 1;
        }
        if ($end === false) {
            $rest .= substr($text, $pos, $close + 4 - $pos);
            $pos = $close + 4;
            continue;
        }
        $rest .= fallback_blanks_right(substr($text, $pos, $begin - $pos)) . "{" . $name . "}";
        $blocks[$name] = fallback_parse(fallback_blanks_left(substr($text, $close + 4, $end - $close - 4)));
        $text = substr($text, 0, $end + strlen($marker)) . fallback_blanks_left(substr($text, $end + strlen($marker)));
        $pos = $end + strlen($marker);
    }
    $rest .= substr($text, $pos);
    $parts = array();
    $pos = 0;
    while (($open = strpos($rest, "{", $pos)) !== false && ($shut = strpos($rest, "}", $open)) !== false) {
        $parts[] = substr($rest, $pos, $open - $pos);
        $parts[] = substr($rest, $open + 1, $shut - $open - 1);
        $pos = $shut + 1;
    }
    $parts[] = substr($rest, $pos);
    return array("parts" => $parts, "blocks" => $blocks);
}

// A new record for a parsed template; blocks without "*" in their name
// get their one instance at once.
function fallback_instance($parsed)
{
    global $fallback_templates;
    $id = count($fallback_templates) + 1;
    $fallback_templates[$id] = array("parsed" => $parsed, "values" => array(), "blocks" => array());
    foreach ($parsed["blocks"] as $name => $block) {
        $fallback_templates[$id]["blocks"][$name] = array();
        if (strpos($name, "*") === false) {
            $fallback_templates[$id]["blocks"][$name][0] = fallback_instance($block);
        }
    }
    return $id;
}

function fallback_render($id)
{
    global $fallback_templates;
    $record = $fallback_templates[$id];
    $out = "";
    $parts = $record["parsed"]["parts"];
    $n = count($parts);
    for ($i = 0; $i < $n; $i++) {
        if ($i % 2 == 0) {
            $out .= $parts[$i];
            continue;
        }
        $tag = $parts[$i];
        if ($tag != "" && isset($record["values"][$tag])) {
            $out .= $record["values"][$tag];
        } elseif ($tag != "" && isset($record["blocks"][$tag])) {
            foreach ($record["blocks"][$tag] as $child) {
                $out .= fallback_render($child);
            }
        } else {
            $out .= "{" . $tag . "}";
        }
    }
    return $out;
}

function brisko_template_load($path)
{
    if (!file_exists($path)) {
        return null;
    }
    return fallback_instance(fallback_parse(file_get_contents($path)));
}

function brisko_template_fetch($id, $name, $index = 0)
{
    global $fallback_templates;
    if (!isset($fallback_templates[$id]["blocks"][$name])) {
        return null;
    }
    if (strpos($name, "*") === false) {
        $index = 0;
    }
    for ($i = count($fallback_templates[$id]["blocks"][$name]); $i <= $index; $i++) {
        $child = fallback_instance($fallback_templates[$id]["parsed"]["blocks"][$name]);
        $fallback_templates[$id]["blocks"][$name][$i] = $child;
    }
    return $fallback_templates[$id]["blocks"][$name][$index];
}

function brisko_template_assign($id, $tag, $value)
{
    global $fallback_templates;
    if (!isset($fallback_templates[$id])) {
        return false;
    }
    $fallback_templates[$id]["values"][$tag] = (string)$value;
    return true;
}

function brisko_template_assign_array($id, $values)
{
    foreach ($values as $tag => $value) {
        if (!brisko_template_assign($id, $tag, $value)) {
            return false;
        }
    }
    return true;
}

function brisko_template_fetch_assign($id, $name, $index, $tag, $value)
{
    return brisko_template_assign(brisko_template_fetch($id, $name, $index), $tag, $value);
}

function brisko_template_fetch_assign_array($id, $name, $index, $values)
{
    return brisko_template_assign_array(brisko_template_fetch($id, $name, $index), $values);
}

function brisko_template_attach($id, $name, $other)
{
    global $fallback_templates;
    if (!isset($fallback_templates[$id]["blocks"][$name])) {
        return false;
    }
    foreach ($fallback_templates[$id]["blocks"][$name] as $i => $child) {
        $fallback_templates[$id]["blocks"][$name][$i] = $other;
    }
    return true;
}

function brisko_template_get($id)
{
    return fallback_render($id);
}

function brisko_template_print($id)
{
    echo fallback_render($id);
}

function brisko_heap_get($group, $key)
{
    global $fallback_store;
    return isset($fallback_store[$group][$key]) ? $fallback_store[$group][$key] : null;
}

function brisko_heap_set($group, $key, $value)
{
    global $fallback_store;
    $fallback_store[$group][$key] = $value;
    return true;
}
