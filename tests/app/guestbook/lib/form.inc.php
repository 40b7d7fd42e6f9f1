<?php
/*
 * Checks submitted form fields. Each failed rule adds one message; the
 * form is shown again with the messages and the values as they came.
 */
class FormValidator
{
    var $values;
    var $errors;

    function FormValidator($values)
    {
        $this->values = array();
        $this->errors = array();
        foreach ($values as $name => $value) {
            if (is_string($value)) {
                // control characters other than tab and line breaks never belong in a form
                $this->values[$name] = preg_replace('/[\x00-\x08\x0B\x0C\x0E-\x1F\x7F]/', '', trim($value));
            }
        }
    }

    function value($name)
    {
        return isset($this->values[$name]) ? $this->values[$name] : '';
    }

    function required($name, $label)
    {
        if ($this->value($name) == '') {
            $this->errors[$name] = "$label is required.";
            return false;
        }
        return true;
    }

    function length($name, $label, $min, $max)
    {
        $n = strlen($this->value($name));
        if ($n < $min || $n > $max) {
            $this->errors[$name] = sprintf('%s must be %d to %d characters long (it is %d).', $label, $min, $max, $n);
            return false;
        }
        return true;
    }

    function pattern($name, $regex, $message)
    {
        if (!preg_match($regex, $this->value($name))) {
            $this->errors[$name] = $message;
            return false;
        }
        return true;
    }

    function email($name)
    {
        // the same test the old mail form used
        if (!eregi('^[a-z0-9._%+-]+@([a-z0-9-]+\.)+[a-z]{2,6}$', $this->value($name))) {
            $this->errors[$name] = 'That does not look like an e-mail address.';
            return false;
        }
        return true;
    }

    function same($name, $other, $message)
    {
        if ($this->value($name) !== $this->value($other)) {
            $this->errors[$other] = $message;
            return false;
        }
        return true;
    }

    function fail($name, $message)
    {
        $this->errors[$name] = $message;
    }

    function isValid()
    {
        return count($this->errors) == 0;
    }
}
?>
