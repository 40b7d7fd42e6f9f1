<?php
$o = new NoSuchClass();
