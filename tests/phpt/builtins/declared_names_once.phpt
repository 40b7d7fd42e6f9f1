--TEST--
get_declared_classes and get_defined_functions list a class or function declared in a branch or inside a function once, under its own name, never under the engine's run-time binding keys, in every request
--ARGS--
--repeat 2
--INCLUDE-- decl.php
<?php
if (!class_exists('Cond')) { class Cond {} function condf() {} }
if (!function_exists('outer')) { function outer() { function inner() {} } }
--FILE--
<?php
include_once 'decl.php';
outer();
$seen = array();
foreach (get_declared_classes() as $n) if ($n == 'cond' || strpos($n, "\0") !== false) $seen[] = "class $n";
$f = get_defined_functions();
foreach ($f['user'] as $n) $seen[] = 'function ' . str_replace("\0", '\0', $n);
echo implode(', ', $seen), "\n";
--EXPECT--
class cond, function condf, function outer, function inner
class cond, function condf, function outer, function inner
