<?php
// A form that posts to itself and shows what came back, escaped.
$compiled_at_start = zend_compilations();
$started = microtime();
include "../lib/common.php";
$library_compiled = zend_compilations() - $compiled_at_start;

$layout = site_layout("Contact", "/contact.php");
$form = brisko_template_load("../templates/contact.tpl");
$name = "";
$email = "";
$message = "";
if ($_SERVER["REQUEST_METHOD"] == "POST") {
    $name = isset($_POST["name"]) ? trim($_POST["name"]) : "";
    $email = isset($_POST["email"]) ? trim($_POST["email"]) : "";
    $message = isset($_POST["message"]) ? trim($_POST["message"]) : "";
    $problems = array();
    if ($name == "") {
        $problems[] = "Please give your name.";
    }
    if (strpos($email, "@") === false) {
        $problems[] = "Please give an e-mail address.";
    }
    if ($message == "") {
        $problems[] = "Please write a message.";
    }
    if (count($problems) == 0) {
        brisko_template_fetch_assign_array($form, "thanks*", 0, array("name" => site_escape($name),
            "email" => site_escape($email), "message" => nl2br(site_escape($message))));
    }
    $i = 0;
    foreach ($problems as $problem) {
        brisko_template_fetch_assign($form, "problem*", $i, "text", site_escape($problem));
        $i++;
    }
}
brisko_template_assign_array($form, array("name" => site_escape($name), "email" => site_escape($email),
    "message" => site_escape($message)));
site_finish($layout, $form, $compiled_at_start, $library_compiled, $started);
