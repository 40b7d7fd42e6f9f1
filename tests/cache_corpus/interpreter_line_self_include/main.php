#!/usr/bin/env php
<?php
// A command-line script with an interpreter line that includes itself
// once: run as the main script the line is skipped and counting starts at
// line 2; included, the line is page text. Each way compiles to its own
// code, so the main script's compilation is never the one served to the
// include, nor the other way round.
if (!isset($depth)) { $depth = 0; }
$depth++;
echo "depth ", $depth, " line ", __LINE__, "\n";
if ($depth == 1) { include "main.php"; }
if ($depth == 1) { echo "end line ", __LINE__, "\n"; }
$depth--;
