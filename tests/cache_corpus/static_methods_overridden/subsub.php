<?php
class LouderTicker extends LoudTicker {
    function seq() { return "!" . parent::seq(); }
}
