<?php
class Sub extends Counter {
    function other() { return 0; }
}
class SubRegistry extends Registry {
}
