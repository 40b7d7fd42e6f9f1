<?php
class Config extends Registry {
    var $values = array("env" => "test");
}
