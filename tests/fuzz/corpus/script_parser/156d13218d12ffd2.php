<?php
class Q { function m() {} }
$q = new Q;
$q->missing();
