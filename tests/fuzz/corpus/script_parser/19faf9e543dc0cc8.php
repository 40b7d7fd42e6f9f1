<?php
$five = 5;
$five();
