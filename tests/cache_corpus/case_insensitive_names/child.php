<?php
class mixedCaseChild extends MIXEDCASEBASE {
    function who() { return "child/" . PARENT::WHO(); }
}
