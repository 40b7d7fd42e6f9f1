<?php
class Markup extends Html {
    function tag($t, $s) { return strtoupper(parent::tag($t, $s)); }
}
