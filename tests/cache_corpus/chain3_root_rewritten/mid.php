<?php
class Mid extends Root {
    function describe() { return "Mid[" . parent::describe() . "]"; }
}
