<?php
if ($GLOBALS['left']-- > 0) include 'self.inc';
else $GLOBALS['reached'] = "bottom";
