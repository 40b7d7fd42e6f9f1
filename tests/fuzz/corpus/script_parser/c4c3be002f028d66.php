<?php
echo "never printed\n";
class Outer {
    function make() {
        class Inner {}
    }
}
