<?php
$nothing_ran = true;
