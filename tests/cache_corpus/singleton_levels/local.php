<?php
class LocalConfig extends Config {
    function dump() { return "local:" . parent::dump(); }
}
