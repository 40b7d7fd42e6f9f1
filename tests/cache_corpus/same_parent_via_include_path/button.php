<?php
class Button extends Theme {
    function html() { return "<button style='" . $this->colours["bg"] . "'>" . $this->name() . "</button>"; }
}
