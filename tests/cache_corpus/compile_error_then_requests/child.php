<?php
class Child extends Base { function hi() { return "child and " . parent::hi(); } }
