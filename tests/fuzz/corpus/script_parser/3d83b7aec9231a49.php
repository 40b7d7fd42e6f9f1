<?php function new_api() { return "new api"; }
