<?php
$n = 5;
$n->method();
